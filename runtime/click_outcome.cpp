#include "runtime/click_outcome.h"

#include "runtime/runtime_error.h"

#include <new>

namespace tavrel {

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

} // namespace tavrel
