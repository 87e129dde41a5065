#include "runtime/qt/startup.h"
#include "ui/qt/form1.h"

#include <memory>

int main(int argc, char *argv[])
{
    return tavrel::startUp(argc, argv, [] { return std::make_unique<tavrel::ui::Form1>(); });
}
