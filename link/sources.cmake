list(APPEND CORE_SOURCES link/upload_frame.cpp link/upload_frame.h)
list(APPEND UI_SOURCES link/com_port.cpp link/com_port.h link/block_upload.cpp)
