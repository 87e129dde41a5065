#include "qt/form1.h"
#include "qt/startup.h"

#include <memory>

int main(int argc, char *argv[])
{
    return tavrel::qt::startUp(argc, argv, [] { return std::make_unique<tavrel::qt::Form1>(); });
}
