// Error-message stack of the numerical routines: the names of the active routines, the error
// recorded at each level, message texts with inserted values, the printer, and the unit and
// integer-constant routines of the library.
#pragma once

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace tez {

// Error types recorded on the stack.
enum ErrorType : int {
    kClear = 0,
    kNote = 1,
    kAlert = 2,
    kWarning = 3,
    kFatal = 4,
    kTerminal = 5,
    kWarningImmediate = 6,
    kFatalImmediate = 7,
};

// Thrown where the library stops the program; the engine's main catches it and returns
// exit_status(). The library never ends the process itself, so every stop can be tested.
class NumericsStop : public std::runtime_error {
  public:
    explicit NumericsStop(int exit_status);
    int exit_status() const noexcept { return status_; }

  private:
    int status_;
};

// Everything the facility keeps: the stack, the pending message, the insertion list, the marks,
// the unit table and the stream bindings. Each thread works on its own current context, so that
// two computations in two threads never share a stack; a thread that installs none uses the
// process's default context.
class ErrorContext {
  public:
    ErrorContext();
    ~ErrorContext();
    ErrorContext(const ErrorContext&) = delete;
    ErrorContext& operator=(const ErrorContext&) = delete;
    struct State;
    State& state() { return *state_; }

  private:
    std::unique_ptr<State> state_;
};

// Makes a context the current one of this thread while it lives.
class ErrorContextScope {
  public:
    explicit ErrorContextScope(ErrorContext& context);
    ~ErrorContextScope();
    ErrorContextScope(const ErrorContextScope&) = delete;
    ErrorContextScope& operator=(const ErrorContextScope&) = delete;

  private:
    ErrorContext* previous_;
};

// Pushes a routine name (cut or blank-padded to 32 characters); called first by every routine.
void E1PSH(std::string_view name);
// Pops the name pushed last and handles the error recorded at that level; called last.
void E1POP(std::string_view name);
// Records an error at the current level: type -1 keeps the level's type, 0 clears it; a
// negative code keeps the level's code.
void E1MES(int type, int code, std::string_view message);
// n = 0: the type recorded at the current level; n = 1: the type left by the routine called last.
int N1RTY(int n);

// Values for the tokens %(Ii), %(Di) and %(Li) of the next message. Bad indexes are ignored.
void store_error_integer(int i, int value);
void store_error_double(int i, double value);
// A negative index keeps the text's trailing blanks; a positive one drops them.
void store_error_text(int i, std::string_view text);

// n = 1..3 returns the unit of that index in `unit` (1 input, 2 output, 3 error messages);
// n = -1..-3 sets it.
void UMACH(int n, int& unit);
// Integer constants of the machine, n = 1..12.
int IMACH(int n);

// Where a unit number writes (in the current context). Unit 6 is the console and writes to
// std::cout until the engine binds another stream; a unit without a stream of its own writes to the
// console's stream. Passing nullptr removes a binding (for unit 6: back to std::cout). The stream
// must outlive its binding.
void bind_unit(int unit, std::ostream* stream);
inline void set_console_stream(std::ostream* stream) {
    bind_unit(6, stream);
}

// Puts the stack, the pending message, the insertion list, the marks and the unit table of the
// current context back to their state before the first call. Stream bindings are kept.
void reset_error_facility();

} // namespace tez
