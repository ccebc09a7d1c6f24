list(APPEND UI_SOURCES player/gauge.cpp player/strip_viewer.cpp player/sequencer.cpp player/live_gauges.cpp)
