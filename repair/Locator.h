#pragma once
#include "repair/Environment.h"
#include "services/text/Text.h"

// Where the installation is: everything the repair touches is derived from one registry
// value, read afresh each time so a change between two clicks is seen at once.
namespace repair {

// The registered install path cut after its last backslash (which it keeps); absent when the
// value is missing, unreadable, empty or holds no backslash.
services::Text GetInstallPath(Environment& env) noexcept;

// The text before the first occurrence of the marker; absent when the marker is missing or
// stands at the first byte.
services::Text TextBefore(services::TextRef text, services::TextRef marker) noexcept;

// The install root: the install path up to its first "lib\", normally ending in a backslash.
services::Text InstallRoot(Environment& env) noexcept;

// The install root followed by tools\link.ini: where the entry is read.
services::Text LinkIniPath(Environment& env) noexcept;

}  // namespace repair
