#include "app/app.h"
#include "platform/entry.h"

int main() {
    return quorvel::platform::RunProgram([](quorvel::platform::Runtime& runtime) {
        static quorvel::App app(runtime);  // lives until the process ends
        app.Start();
    });
}
