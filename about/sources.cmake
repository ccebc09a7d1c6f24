list(APPEND CORE_SOURCES about/system_info.cpp about/system_info_linux.cpp)
list(APPEND UI_SOURCES about/about_form.cpp about/system_info_panel.cpp)
