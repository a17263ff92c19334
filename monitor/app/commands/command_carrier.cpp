#include "monitor/app/commands/command_carrier.h"

#include "framework/text/text.h"
#include "monitor/res/resource.h"

namespace command_carrier {

namespace {

using app_command::Result;

constexpr char kReplyClass[] = "SkyvaneCommand";
constexpr UINT kAnswerMs = 30000;

// Writes `text` to the standard output a script or a redirection gave this start, if any.
void Say(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (!text.empty() && out && out != INVALID_HANDLE_VALUE)
        WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
}

// "\\.\LPT1", "\\.\pipe\x" and the like, which a full path of "LPT1" also becomes: a device
// may never answer.
bool IsDevicePath(const std::string& path) {
    return path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "\\\\?\\") == 0;
}

// The whole of a file on a disk, at most kMaxFileBytes.
bool ReadDiskFile(const std::string& path, std::string& text) {
    if (IsDevicePath(path)) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr), read = 0;
    bool ok = GetFileType(file) == FILE_TYPE_DISK && size != INVALID_FILE_SIZE && size <= app_command::kMaxFileBytes;
    if (ok) {
        text.resize(size);
        ok = size == 0 || (ReadFile(file, &text[0], size, &read, nullptr) && read == size);
    }
    CloseHandle(file);
    return ok;
}

// Puts `from` in place of `to`. Windows 98 and Me know no replacing move (MoveFileExA is a
// stub there, if exported at all): there the old file goes first, once the new one is complete.
bool Replace(const std::string& from, const std::string& to) {
    using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    auto moveEx = reinterpret_cast<MoveFileExFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
    if (moveEx && moveEx(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    if (moveEx && GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    DeleteFileA(to.c_str());
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

// Writes `text` to a temporary file beside `path` and puts it in place of `path` only once it
// is complete: a failure leaves the file that was there as it was.
bool WriteReplacing(const std::string& path, const std::string& text) {
    size_t slash = path.find_last_of("\\/");
    if (IsDevicePath(path) || slash == std::string::npos) return false;
    char temporary[MAX_PATH] = {};
    if (!GetTempFileNameA(path.substr(0, slash + 1).c_str(), "sky", 0, temporary)) return false;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    if (file != INVALID_HANDLE_VALUE) ok = CloseHandle(file) && ok;
    ok = ok && Replace(temporary, path);
    if (!ok) DeleteFileA(temporary);
    return ok;
}

// What the running copy sends back, taken only from that copy.
struct Reply {
    HWND from;
    std::string text;
};

// The hidden window the running copy sends its reply to, while this start waits.
LRESULT CALLBACK ReplyProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    auto* reply = reinterpret_cast<Reply*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (msg != WM_COPYDATA || !reply || reinterpret_cast<HWND>(wp) != reply->from || !data ||
        data->dwData != app_command::kReplyTag)
        return DefWindowProcA(window, msg, wp, lp);
    if (data->cbData > app_command::kMaxFileBytes || (data->cbData && !data->lpData)) return FALSE;
    reply->text.assign(static_cast<const char*>(data->lpData), data->cbData);
    return TRUE;
}

HWND CreateReplyWindow(Reply* reply) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = instance;
    wc.lpszClassName = kReplyClass;
    RegisterClassA(&wc);
    return CreateWindowExA(0, kReplyClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, reply);
}

// Sends the command (and the file's text) to the running copy; its answer, with what it sent
// back in `reply`.
Result Send(HWND running, const app_command::Command& command, const std::string& fileText, std::string& text) {
    std::string payload = app_command::Payload(command, fileText);
    Reply reply = {running, std::string()};
    HWND replyWindow = CreateReplyWindow(&reply);
    COPYDATASTRUCT data = {app_command::kCopyDataTag, DWORD(payload.size()), &payload[0]};
    DWORD_PTR answer = 0;
    Result result = app_command::kNoAnswer;
    if (SendMessageTimeoutA(running, WM_COPYDATA, reinterpret_cast<WPARAM>(replyWindow),
                            reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerMs, &answer))
        result = app_command::ResultOfReply(static_cast<intptr_t>(answer));
    if (replyWindow) DestroyWindow(replyWindow);
    text = reply.text;
    return result;
}

}  // namespace

Result CarryTransfer(const app_command::Command& command, const TransferRun& run) {
    std::string fileText, reply;
    if (command.kind == app_command::Kind::Import && !ReadDiskFile(command.file, fileText)) {
        Say(fw::Format(fw::LoadText(IDS_IMPORT_UNREADABLE).c_str(), command.file.c_str()));
        return app_command::kBadFile;
    }
    Result result = run(fileText, reply);
    if (command.kind != app_command::Kind::Export || result != app_command::kDone) {
        Say(reply);
        return result;
    }
    // A running copy that sent no text wrote nothing either.
    if (reply.empty()) return app_command::kNoAnswer;
    if (WriteReplacing(command.file, reply)) return result;
    Say(fw::Format(fw::LoadText(IDS_EXPORT_UNWRITABLE).c_str(), command.file.c_str()));
    return app_command::kBadFile;
}

Result HandOver(HWND running, const app_command::Command& command) {
    if (command.kind == app_command::Kind::Export || command.kind == app_command::Kind::Import) {
        return CarryTransfer(command, [&](const std::string& fileText, std::string& reply) {
            return Send(running, command, fileText, reply);
        });
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    // Opened first: after /exit the process may be gone by the time the answer arrives.
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    std::string unused;
    Result result = Send(running, command, std::string(), unused);
    // Handing the adapter back to the system's service can take a while.
    if (command.kind == app_command::Kind::Exit && result == app_command::kDone &&
        (!process || WaitForSingleObject(process, 60000) != WAIT_OBJECT_0))
        result = app_command::kNoAnswer;
    if (process) CloseHandle(process);
    return result;
}

}  // namespace command_carrier
