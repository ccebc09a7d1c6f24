list(APPEND CORE_SOURCES store/cp1251.cpp store/form_store.cpp store/profile.cpp store/form_file.cpp)
list(APPEND UI_SOURCES store/file_commands.cpp)
