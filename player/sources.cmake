list(APPEND UI_SOURCES player/gauge.h player/strip_viewer.cpp player/sequencer.cpp player/live_gauges.cpp)
