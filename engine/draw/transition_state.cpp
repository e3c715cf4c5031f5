// State of transitions, the picture viewer, clip wipes and the display.
#include "engine/draw/display.h"
#include "engine/draw/refresh.h"

TransitionState Transition;
ViewerState Viewer;
ClipWipeState Wipe;
DisplayState Display;
