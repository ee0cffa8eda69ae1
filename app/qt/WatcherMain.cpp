#include "GammaOutputs.h"
#include "Watcher.h"

// kov-display-watcher RUN, started by kov-display alone (see Watcher.h).
int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    const auto outputs = MakeScreenGammaOutputs();
    return RunWatcher(argv[1], *outputs);
}
