// start_and_close PROGRAM.exe
//
// Starts the built program as a user would, with its standard output and
// error captured, waits until its window titled "Tavrel" is visible, closes
// it as the close box does (WM_CLOSE), and expects the program to end with
// exit code 0 having written nothing. Exits 0 when all of that held, 1 with
// the reason on stderr when not.
//
// PROGRAM may be a Unix path, as CTest passes it under Wine: Wine shows the
// Unix root as drive Z.

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto startLimit = 30s;
constexpr DWORD endLimitMs = 30000;

struct Handle
{
    HANDLE handle = nullptr;
    Handle() = default;
    explicit Handle(HANDLE h) : handle(h) { }
    ~Handle() { reset(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    Handle(Handle &&) = delete;
    Handle &operator=(Handle &&) = delete;
    void reset()
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = nullptr;
    }
};

// A pipe whose write end the child inherits, drained by a thread of its own
// so the child never blocks on a full pipe.
class Capture
{
public:
    Capture()
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        CreatePipe(&read_.handle, &write_.handle, &inherit, 0);
        SetHandleInformation(read_.handle, HANDLE_FLAG_INHERIT, 0);
    }
    ~Capture()
    {
        write_.reset();
        if (reader_.joinable())
            reader_.join();
    }
    Capture(const Capture &) = delete;
    Capture &operator=(const Capture &) = delete;
    Capture(Capture &&) = delete;
    Capture &operator=(Capture &&) = delete;

    [[nodiscard]] HANDLE childEnd() const { return write_.handle; }

    // After the child has started: the parent's copy of the write end goes,
    // so the pipe ends when the child's does.
    void start()
    {
        write_.reset();
        reader_ = std::thread([this] {
            std::array<char, 512> buffer{};
            DWORD got = 0;
            while (ReadFile(read_.handle, buffer.data(), buffer.size(), &got, nullptr) && got > 0)
                text_.append(buffer.data(), got);
        });
    }
    std::string finish()
    {
        if (reader_.joinable())
            reader_.join();
        return text_;
    }

private:
    Handle read_;
    Handle write_;
    std::thread reader_;
    std::string text_;
};

std::wstring windowsPath(std::wstring path)
{
    if (!path.empty() && path.front() == L'/')
        path.insert(0, L"Z:");
    for (wchar_t &c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

struct Search
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK takeTavrelWindow(HWND window, LPARAM data)
{
    auto &search = *reinterpret_cast<Search *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    std::array<wchar_t, 64> title{};
    GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
    if (owner == search.process && IsWindowVisible(window)
        && std::wstring(title.data()) == L"Tavrel") {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND visibleWindowTitledTavrel(DWORD process)
{
    Search search{process, nullptr};
    EnumWindows(takeTavrelWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int failWith(const char *reason)
{
    std::fprintf(stderr, "%s\n", reason);
    return 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return failWith("usage: start_and_close PROGRAM.exe");
    const std::wstring program = windowsPath(argv[1]);

    Capture output;
    Capture errors;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output.childEnd();
    startup.hStdError = errors.childEnd();
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &started)) {
        std::fprintf(stderr, "could not start %ls (error %lu)\n", program.c_str(), GetLastError());
        return 1;
    }
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    output.start();
    errors.start();

    HWND window = nullptr;
    const auto deadline = std::chrono::steady_clock::now() + startLimit;
    while ((window = visibleWindowTitledTavrel(started.dwProcessId)) == nullptr
           && std::chrono::steady_clock::now() < deadline
           && WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT)
        std::this_thread::sleep_for(50ms);
    if (window == nullptr) {
        TerminateProcess(process.handle, 99);
        return failWith("no visible window titled \"Tavrel\" appeared");
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.handle, endLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle, 99);
        return failWith("the program did not end after its window was closed");
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.handle, &exitCode);
    const std::string written = output.finish();
    const std::string complained = errors.finish();

    int result = 0;
    if (exitCode != 0) {
        std::fprintf(stderr, "exit code %lu, expected 0\n", exitCode);
        result = 1;
    }
    if (!written.empty()) {
        std::fprintf(stderr, "the program wrote to standard output:\n%s\n", written.c_str());
        result = 1;
    }
    if (!complained.empty()) {
        std::fprintf(stderr, "the program wrote to standard error:\n%s\n", complained.c_str());
        result = 1;
    }
    if (result == 0)
        std::printf("started, showed its window, closed with exit code 0, wrote nothing\n");
    return result;
}
