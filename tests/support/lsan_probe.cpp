// Leaks on purpose. The sanitizer run expects LeakSanitizer to report it:
// otherwise that run would check no leaks at all.
#include <cstdlib>

int main()
{
    void *volatile block = std::malloc(64);
    block = nullptr;
    return block == nullptr ? 0 : 1;
}
