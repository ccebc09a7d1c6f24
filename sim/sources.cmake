list(APPEND UI_SOURCES sim/window_gl_form.cpp)
