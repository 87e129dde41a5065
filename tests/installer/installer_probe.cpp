// installer_probe shortcut FILE.lnk
// installer_probe version FILE.exe
// installer_probe /S _?=FOLDER    (copied over an installed uninstall.exe)
//
// What the installer test cannot read from Linux, asked of Windows itself:
// a shortcut's target, arguments, working folder and icon as the shell
// resolves them, and a program's version block (the fixed version, then
// each language's strings as "080404b0 ProductName=Tavrel"). One
// name=value line each, in UTF-8; exits 1 with the reason on stderr when
// the file cannot be read. Started as an installed uninstaller is, it
// writes where it runs from to FOLDER\ran-from.txt, deletes
// FOLDER\Tavrel.exe as an uninstaller would, and exits 0.

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void printLine(const std::wstring &line)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size,
                        nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
}

int failWith(const char *reason, const wchar_t *path)
{
    std::fprintf(stderr, "%s: %ls\n", reason, path);
    return 1;
}

int printShortcut(const wchar_t *path)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return failWith("COM would not start", path);
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    int result = 1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&link)))
        && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))
        && SUCCEEDED(file->Load(path, STGM_READ))) {
        std::array<wchar_t, MAX_PATH> text{};
        link->GetPath(text.data(), MAX_PATH, nullptr, SLGP_RAWPATH);
        printLine(L"target=" + std::wstring(text.data()));
        text.fill(L'\0');
        link->GetArguments(text.data(), MAX_PATH);
        printLine(L"arguments=" + std::wstring(text.data()));
        text.fill(L'\0');
        link->GetWorkingDirectory(text.data(), MAX_PATH);
        printLine(L"directory=" + std::wstring(text.data()));
        text.fill(L'\0');
        int index = 0;
        link->GetIconLocation(text.data(), MAX_PATH, &index);
        printLine(L"icon=" + std::wstring(text.data()) + L"," + std::to_wstring(index));
        result = 0;
    } else {
        failWith("not a shortcut the shell can read", path);
    }
    if (file != nullptr)
        file->Release();
    if (link != nullptr)
        link->Release();
    CoUninitialize();
    return result;
}

std::wstring versionQuad(DWORD high, DWORD low)
{
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"."
        + std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

// One version block's strings, for every string table it holds.
void printStrings(const std::vector<BYTE> &block)
{
    struct Translation
    {
        WORD language;
        WORD codePage;
    };
    void *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length))
        return;
    const auto *translations = static_cast<const Translation *>(value);
    for (UINT i = 0; i < length / sizeof(Translation); ++i) {
        std::array<wchar_t, 9> table{};
        std::swprintf(table.data(), table.size(), L"%04x%04x", translations[i].language,
                      translations[i].codePage);
        for (const wchar_t *name : {L"ProductName", L"CompanyName", L"FileDescription",
                                    L"FileVersion", L"ProductVersion", L"LegalCopyright"}) {
            const std::wstring query
                = L"\\StringFileInfo\\" + std::wstring(table.data()) + L"\\" + name;
            UINT size = 0;
            if (VerQueryValueW(block.data(), query.c_str(), &value, &size) && size > 0)
                printLine(std::wstring(table.data()) + L" " + name + L"="
                          + static_cast<const wchar_t *>(value));
        }
    }
}

// A plain function, not a lambda: on 32-bit x86 a callback must use the
// stdcall convention.
BOOL CALLBACK addLanguage(HMODULE /*module*/, LPCWSTR /*type*/, LPCWSTR /*name*/, WORD language,
                          LONG_PTR list)
{
    reinterpret_cast<std::vector<WORD> *>(list)->push_back(language);
    return TRUE;
}

// A program may carry one version block per language (an installer does,
// one per language it speaks), and GetFileVersionInfo picks one by the
// user's language: every one is read here, straight from the resources.
int printVersion(const wchar_t *path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, block.data()))
        return failWith("no version block", path);
    void *value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", &value, &length)
        && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
        printLine(L"fixed FileVersion="
                  + versionQuad(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
        printLine(L"fixed ProductVersion="
                  + versionQuad(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    }

    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return failWith("cannot read the resources", path);
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module, MAKEINTRESOURCEW(16) /* RT_VERSION */,
                           MAKEINTRESOURCEW(VS_VERSION_INFO), addLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    for (const WORD language : languages) {
        HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(16),
                                      MAKEINTRESOURCEW(VS_VERSION_INFO), language);
        HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
        const auto *bytes = static_cast<const BYTE *>(LockResource(loaded));
        if (bytes == nullptr)
            continue;
        // VerQueryValue wants a block it may write to, as GetFileVersionInfo
        // would have returned.
        std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
        copy.resize(copy.size() * 2);
        printStrings(copy);
    }
    FreeLibrary(module);
    return 0;
}

// What an installer that upgrades runs: the uninstaller must never run
// from the install folder, which users may have been able to write to.
int actAsUninstaller(const std::wstring &folder)
{
    std::array<wchar_t, MAX_PATH> self{};
    GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    const std::wstring report = folder + L"\\ran-from.txt";
    HANDLE file = CreateFileW(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failWith("cannot write", report.c_str());
    const std::wstring path(self.data());
    DWORD written = 0;
    WriteFile(file, path.data(), static_cast<DWORD>(path.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    DeleteFileW((folder + L"\\Tavrel.exe").c_str());
    return 0;
}

// Waits, polling, until a visible top-level window has this title: a
// program started with `wine start` is running once its window is shown.
int waitForWindow(const std::wstring &title, const std::wstring &seconds)
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(seconds));
    while (std::chrono::steady_clock::now() < deadline) {
        const HWND window = FindWindowW(nullptr, title.c_str());
        if (window != nullptr && IsWindowVisible(window) != FALSE)
            return 0;
        Sleep(50);
    }
    return failWith("no window titled", title.c_str());
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc == 4 && std::wstring(argv[1]) == L"window")
        return waitForWindow(argv[2], argv[3]);
    if (argc == 3 && std::wstring(argv[1]) == L"shortcut")
        return printShortcut(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"version")
        return printVersion(argv[2]);
    // As for NSIS, the folder is the rest of the command line, spaces and all.
    const std::wstring commandLine = GetCommandLineW();
    const size_t folderAt = commandLine.find(L" _?=");
    if (argc >= 3 && std::wstring(argv[1]) == L"/S" && folderAt != std::wstring::npos)
        return actAsUninstaller(commandLine.substr(folderAt + 4));
    std::fprintf(
        stderr,
        "usage: installer_probe shortcut FILE.lnk | version FILE.exe | window TITLE SECONDS\n");
    return 2;
}
