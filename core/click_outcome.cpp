#include "core/click_outcome.h"

#include "core/runtime_error.h"

#include <new>

namespace tavrel::core {

std::optional<std::u16string> runClickHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        return error.message();
    } catch (const std::bad_alloc &) {
        return u"内存不足，无法完成这次操作。";
    }
    return std::nullopt;
}

} // namespace tavrel::core
