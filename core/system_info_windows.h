// The Windows provider of the system information panel.
#pragma once

#include "core/system_info.h"

namespace sysinfo {

class WindowsSystemInfoProvider : public SystemInfoProvider
{
  public:
    PlatformVersion platformVersion() override;
    MemoryStatus memoryStatus() override;
    ComputerInfo computerInfo() override;
    DriveInfo driveInfo(int drive) override;

    // The version Windows really runs. GetVersionEx and GetVersion report 6.2
    // on Windows 8.1 and later to a program without a compatibility manifest.
    static VersionRecord trueVersion();
};

} // namespace sysinfo
