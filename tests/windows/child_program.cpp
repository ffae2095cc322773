// A child for the Windows process tests, started by test_windows through ChildProcess.
//   exit N                  ends with exit code N
//   arguments FILE          writes the arguments it received, as the converter reads
//                           them, one UTF-8 line each, to FILE
//   status TEXT             writes TEXT to its console after a carriage return, no line end
//   wait-for-stop READY OUT installs the converter's stop handlers, creates READY, waits
//                           at most 30 s for a stop request, writes the request's name to
//                           OUT and ends with the converter's stop code (3 if none came)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "converter/exit_codes.h"
#include "converter/platform/program_arguments.h"
#include "converter/platform/stop_requests.h"

namespace {

std::wstring wideOf(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

void writeFile(const std::string& utf8Path, const std::string& text) {
    std::ofstream(wideOf(utf8Path).c_str(), std::ios::binary) << text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = kalo::converter::programArguments(argc, argv);
    if (args.size() == 2 && args[0] == "exit") return std::atoi(args[1].c_str());
    if (args.size() >= 2 && args[0] == "arguments") {
        std::string lines;
        for (const std::string& arg : args) lines += arg + "\n";
        writeFile(args[1], lines);
        return 0;
    }
    if (args.size() == 2 && args[0] == "status") {
        const std::wstring text = L"\r" + wideOf(args[1]);
        DWORD written = 0;
        WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), text.c_str(), static_cast<DWORD>(text.size()), &written,
                      nullptr);
        return written == text.size() ? 0 : 2;
    }
    if (args.size() == 3 && args[0] == "wait-for-stop") {
        if (!kalo::converter::installStopRequestHandlers()) return 4;
        writeFile(args[1], "ready");
        for (int waited = 0; waited < 30000 && kalo::converter::stopRequestCount() == 0; waited += 20) Sleep(20);
        if (kalo::converter::stopRequestCount() == 0) return 3;
        writeFile(args[2], kalo::converter::lastStopRequestName());
        return kalo::converter::kExitStopped;
    }
    std::fputs("unknown request\n", stderr);
    return 100;
}
