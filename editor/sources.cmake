list(APPEND UI_SOURCES editor/form_editing_panel.cpp editor/list_operations.cpp editor/valve_panel.cpp)
