#include "Watcher.h"

#include "GammaDevice.h"
#include "RecordFile.h"

int RunWatcher(std::uint32_t run, WatcherPlatform& platform,
               std::unique_ptr<GammaOutputs> (*connectScreen)()) {
    if (!platform.WaitForProgramEnd()) {
        return 2;
    }
    const auto path = platform.RecordPath();
    if (!path) {
        return 0;
    }
    RecordFile record(*path);
    const std::unique_ptr<GammaOutputs> outputs = connectScreen();
    GammaDevice screen(*outputs);
    screen.KeepRecordIn(&record, run);
    screen.PutBackAfterRun();
    return 0;
}
