// eldemo's entry on the real backend: a window on the desktop, the real clock.
#include <el/entry.h>

#include "demo/demo.h"

int main(int argc, char** argv) {
    elSystem::SceneOptions options;
    options.programName = "eldemo";
    return elSystem::RunScene(argc, argv, kDemoCaption, DemoStartup, options);
}
