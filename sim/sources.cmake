list(APPEND CORE_SOURCES sim/fountain_geometry.cpp)
list(APPEND UI_SOURCES sim/window_gl_form.cpp sim/fountain_picture.cpp)
