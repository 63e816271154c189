// A test's helper program (the probe, the window rules' other program),
// started beside the test program with its input and output piped. It ends
// when its input closes: the destructor closes it and waits for the end.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace quorvel::testing {

class HelperProcess {
public:
    // `program`: the file name of an exe in this program's folder.
    HelperProcess(std::string_view program, std::string_view arguments) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line(self);
        line = "\"" + line.substr(0, line.rfind('\\') + 1) + std::string(program) + "\"";
        if (!arguments.empty()) line += " " + std::string(arguments);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE inRead, inWrite, outRead, outWrite;
        CreatePipe(&inRead, &inWrite, &inherit, 0);
        CreatePipe(&outRead, &outWrite, &inherit, 0);
        // Only the helper's ends go to the helper.
        input_.Reset(inWrite);
        output_.Reset(outRead);
        SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        const win32::KernelHandle helperIn(inRead), helperOut(outWrite);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead;
        startup.hStdOutput = outWrite;
        startup.hStdError = outWrite;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            process_.Reset(process.hProcess);
        }
    }
    ~HelperProcess() {
        input_.Reset();
        if (process_) WaitForSingleObject(process_.get(), 60000);
    }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    // What the helper wrote until `until` appeared or its output ended; the
    // output is closed then: a helper that writes on is never blocked on a full pipe.
    std::string ReadUntil(std::string_view until) {
        std::string out;
        char buffer[256];
        DWORD read = 0;
        while (Started() && out.find(until) == std::string::npos &&
               ReadFile(output_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            out.append(buffer, read);
        }
        output_.Reset();
        return out;
    }

private:
    win32::KernelHandle process_;
    win32::KernelHandle input_;
    win32::KernelHandle output_;
};

}  // namespace quorvel::testing
