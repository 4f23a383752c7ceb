// A program of the tests that ends through the product's fatal report, so the tests can
// read the box and the exit code without a test switch in the product.
#include <windows.h>

#include "Texts.h"
#include "app/Program_win.h"
#include "services/text/Fatal.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    app::InitializeServices();
    services::RaiseFatal(6, services::text::kForeignStackError);
}
