#pragma once
#include "common/text.hpp"
#include "host/system.hpp"

namespace pavuto {

// The short text naming a Windows version, such as "Win XP :5.1 Build:2600".
Text WindowsVersionText(const host::VersionRecord& record);
// The version text of the running system: the Windows text where the system
// has a version record, otherwise the system's own description.
Text SystemVersionText(host::SystemInfo& system);
// 2 when the version text names XP, 3 for every other system.
int WindowsClassOf(const Text& versionText);

}  // namespace pavuto
