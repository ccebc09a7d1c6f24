// Found first on the include path of a layer that may not use Qt's OpenGL widget
// classes: any of their headers pulls this one in and stops the build.
#error "this layer may not include Qt's OpenGL widget headers"
