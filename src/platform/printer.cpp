#include "printer.h"

namespace platform {

Printer& Printer::instance() {
    static Printer printer;
    return printer;
}

}  // namespace platform
