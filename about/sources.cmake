list(APPEND UI_SOURCES about/about_form.cpp)
