// eldemo-replay: the demo's pages on the headless backend through the replay runner, with the same
// options as milkanet-replay; the state is the frame, page, status line and reported errors.
#include "demo/demo.h"
#include "runner.h"

int main(int argc, char** argv) {
    const replay::Program demo{"eldemo-replay", kDemoCaption, DemoStartup, [] { return Demo.frames; },
                               WriteDemoState,  true};
    return replay::RunReplay(demo, argc, argv);
}
