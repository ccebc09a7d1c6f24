list(APPEND CORE_SOURCES app/app_error.cpp)
list(APPEND UI_SOURCES app/main_window.cpp app/guard.cpp app/ui_prompts.cpp app/fit_font.cpp)
