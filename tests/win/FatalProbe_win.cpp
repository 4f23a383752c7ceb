// A program of the tests that goes through the product's start-up services and ends through
// its fatal report or its orderly shutdown, so the tests can watch the box and the exit code
// without a test switch in the product.
//   fatal_probe              the fatal report with error code 6
//   fatal_probe call LIB     call SkinH_AttachRes of LIB, then shut down in order; the exit
//                            code is the function's result
#include <windows.h>

#include <cstring>

#include "Texts.h"
#include "app/Program_win.h"
#include "services/foreign/Foreign.h"
#include "services/text/Fatal.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "call") == 0) {
        static const services::ForeignFunction table[] = {{argv[2], "SkinH_AttachRes"}};
        app::InitializeServices(table);
        static const unsigned char data[] = {1, 2, 3};
        const std::int32_t result = services::CallForeignFunction(
            0, {reinterpret_cast<std::uintptr_t>(data), sizeof data, reinterpret_cast<std::uintptr_t>(""), 0, 0, 0});
        app::ShutdownServices();
        return result;
    }
    app::InitializeServices({});
    services::RaiseFatal(6, services::text::kForeignStackError);
}
