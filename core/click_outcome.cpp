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

// Counts one click for as long as it lives, however the click ends.
class ClickGate::RunningClick
{
public:
    explicit RunningClick(int &running) noexcept : running_(running) { ++running_; }
    ~RunningClick() { --running_; }
    RunningClick(const RunningClick &) = delete;
    RunningClick &operator=(const RunningClick &) = delete;
    RunningClick(RunningClick &&) = delete;
    RunningClick &operator=(RunningClick &&) = delete;

private:
    int &running_;
};

bool ClickGate::run(const std::function<void()> &handler, const ErrorReport &report)
{
    if (clickRunning())
        return false;
    const RunningClick click(running_);
    if (const auto message = runClickHandler(handler))
        report(*message);
    return true;
}

} // namespace tavrel::core
