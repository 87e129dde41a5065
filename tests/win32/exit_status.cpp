// exit_status CODE: writes two lines to standard output and one to standard
// error, then exits with CODE. The Wine runner's own test uses it to see
// that exit codes and output reach CTest as a native program's would.

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    std::printf("line one\nline two\n");
    std::fprintf(stderr, "to stderr\n");
    return argc > 1 ? std::atoi(argv[1]) : 0;
}
