list(APPEND UI_SOURCES link/com_port.h link/block_upload.cpp)
