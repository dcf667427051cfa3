#include "error_stack.h"

namespace tez {

NumericsStop::NumericsStop(int exit_status)
    : std::runtime_error("numerical routines stopped the program"), status_(exit_status) {}

void E1PSH(std::string_view) {}
void E1POP(std::string_view) {}
void E1MES(int, int, std::string_view) {}
int N1RTY(int) { return 0; }
void store_error_integer(int, int) {}
void store_error_double(int, double) {}
void store_error_text(int, std::string_view) {}
void UMACH(int, int& unit) { unit = 6; }
int IMACH(int) { return 0; }
void bind_unit(int, std::ostream*) {}
void reset_error_facility() {}

} // namespace tez
