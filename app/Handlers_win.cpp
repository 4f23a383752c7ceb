#include "app/MainWindowDef.h"

namespace app {

void OnMainWindowCreated() {}
void OnGatherInfoClicked() {}
void OnRepairClicked() {}

}  // namespace app
