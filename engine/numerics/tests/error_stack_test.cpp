#include "error_stack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "capture.h"

using namespace tez;

namespace {

class ErrorStack : public ConsoleCapture {
  protected:
    // A warning recorded by the routine the user called is printed when that routine returns.
    std::string warning_from(const std::string& routine, std::string_view message) {
        console.str("");
        E1PSH(routine);
        E1MES(kWarning, 1, message);
        E1POP(routine);
        return console.str();
    }
};

std::string repeat(std::string_view unit, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += unit;
    return s;
}

struct PrintCase {
    const char* what;
    std::string message;
    std::string expected;
};

// With the head " 1 from DTEST" the first line has room for 46 characters of the message,
// which begins with ".  ".
TEST_F(ErrorStack, PrinterLineBreaking) {
    const std::string first = "\n *** WARNING  ERROR 1 from DTEST";
    const std::string more = " ***          ";
    const std::string word = "abcdefghij";
    const std::string four = word + " " + word + " " + word + " " + word;
    const std::vector<PrintCase> cases = {
        {"fits exactly", four, first + ".  " + four + "\n"},
        {"one character more", four + "k",
         first + ".  " + word + " " + word + " " + word + "\n" + more + word + "k\n"},
        {"no blanks", repeat("0123456789", 10),
         first + ". \n" + more + repeat("0123456789", 6) + "0123\n" + more + "456789" +
             repeat("0123456789", 3) + "\n"},
        {"continuation keeps the blank it breaks at", repeat("abcdefghi ", 14) + "abcdefghi",
         first + ".  " + repeat("abcdefghi ", 3) + "abcdefghi\n" + more + repeat("abcdefghi ", 6) +
             "\n" + more + repeat("abcdefghi ", 4) + "abcdefghi\n"},
        {"breaks", "First part%/second part%/ third",
         first + ".  First part\n" + more + "second part\n" + more + " third\n"},
        {"break as the last characters", "Only line%/", first + ".  Only line\n"},
        {"one blank skipped at a continuation", four.substr(0, 42) + "  tail end",
         first + ".  " + four.substr(0, 42) + "\n" + more + "tail end\n"},
        {"no blank skipped once the message holds a break", four.substr(0, 42) + "  tail%/end",
         first + ".  " + four.substr(0, 42) + "\n" + more + " tail\n" + more + "end\n"},
        {"break beyond the first line", repeat("x", 70) + "%/y",
         first + ". \n" + more + repeat("x", 64) + "\n" + more + repeat("x", 6) + "\n" + more +
             "y\n"},
    };
    for (const PrintCase& c : cases) {
        EXPECT_EQ(warning_from("DTEST", c.message), c.expected) << c.what;
    }
    // No line is longer than 78 characters.
    std::istringstream lines(warning_from("DTEST", repeat("abc def ", 60)));
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 78u) << line;
}

TEST_F(ErrorStack, FirstLineHead) {
    // A longer name and code leave less room; a name like "dNAME" is shown capitalised.
    E1PSH("dLONGROUTINE");
    E1MES(kWarning, 12, "Short.");
    E1POP("dLONGROUTINE");
    EXPECT_EQ(console.str(), "\n *** WARNING  ERROR 12 from DLONGROUTINE.  Short.\n");
}

TEST_F(ErrorStack, TokenReplacement) {
    struct Case {
        const char* what;
        void (*store)();
        const char* message;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"integer", [] { store_error_integer(1, 42); }, "N = %(I1).", "N = 42."},
        {"lower-case letter", [] { store_error_integer(1, 42); }, "N = %(i1).", "N = 42."},
        {"negative", [] { store_error_integer(3, -17); }, "N = %(I3).", "N = -17."},
        {"digit 0 never replaced", [] { store_error_integer(0, 5); }, "%(I0)", "%(I0)"},
        {"missing value kept", [] { store_error_integer(1, 5); }, "%(I2) %(D1)", "%(I2) %(D1)"},
        {"first of two wins", [] { store_error_integer(1, 1), store_error_integer(1, 2); }, "%(I1)",
         "1"},
        {"index 10 ignored", [] { store_error_integer(10, 5); }, "%(I1)", "%(I1)"},
        {"repeated token", [] { store_error_integer(2, 7); }, "%(I2)+%(I2)", "7+7"},
        {"double", [] { store_error_double(1, -1.5); }, "X = %(D1)", "X = -1.500000000000000E+00"},
        {"double zero", [] { store_error_double(2, 0.0); }, "%(D2)", "0.000000000000000E+00"},
        {"double with a long exponent", [] { store_error_double(1, 2.2250738585072014e-308); },
         "%(D1)", "2.225073858507201E-308"},
        {"double not a number", [] { store_error_double(1, std::nan("")); }, "%(D1)", "NaN"},
        {"text drops trailing blanks", [] { store_error_text(1, "ab  "); }, "[%(L1)]", "[ab]"},
        {"negative index keeps them", [] { store_error_text(-1, "ab  "); }, "[%(L1)]", "[ab  ]"},
        {"all-blank text keeps one", [] { store_error_text(1, "   "); }, "[%(L1)]", "[ ]"},
        {"kinds kept apart", [] { store_error_integer(1, 3), store_error_text(1, "t"); },
         "%(L1)%(I1)", "t3"},
        {"list overflow drops the value",
         [] {
             store_error_text(1, std::string(255, 'a'));
             store_error_text(2, std::string(25, 'b'));
             store_error_integer(1, 9);
         },
         "%(I1)%(L2)", "%(I1)bbbbbbbbbbbbbbbbbbbbbbbbb"},
        {"other token letters", [] { store_error_integer(1, 9); }, "%(X1) %(I1", "%(X1) %(I1"},
    };
    for (const Case& c : cases) {
        reset_error_facility();
        c.store();
        EXPECT_EQ(warning_from("DTEST", c.message),
                  std::string("\n *** WARNING  ERROR 1 from DTEST.  ") + c.text + "\n")
            << c.what;
    }

    // Values serve only the message that follows them.
    reset_error_facility();
    store_error_integer(1, 8);
    warning_from("DTEST", "%(I1)");
    EXPECT_EQ(warning_from("DTEST", "%(I1)"), "\n *** WARNING  ERROR 1 from DTEST.  %(I1)\n");

    // An inserted value that would pass 1024 characters is cut there.
    reset_error_facility();
    store_error_text(1, std::string(255, 'v'));
    const std::string out = warning_from("DTEST", std::string(1000, 'm') + "%(L1)");
    EXPECT_EQ(std::count(out.begin(), out.end(), 'v'), 21);
}

TEST_F(ErrorStack, TerminalPrintsOnceAndStops) {
    E1PSH("DTEST");
    E1MES(kTerminal, 7, "Cannot go on.");
    const std::string expected = "\n *** TERMINAL ERROR 7 from DTEST.  Cannot go on.\n";
    EXPECT_EQ(console.str(), expected);
    try {
        E1POP("DTEST");
        FAIL() << "no stop";
    } catch (const NumericsStop& stop) {
        EXPECT_EQ(stop.exit_status(), 5);
    }
    EXPECT_EQ(console.str(), expected);
}

TEST_F(ErrorStack, InnerErrorsPrintAtTheOuterPop) {
    for (int type : {kWarning, kFatal}) {
        reset_error_facility();
        console.str("");
        E1PSH("DOUTER");
        E1PSH("DINNER");
        E1MES(type, 4, "Inner trouble.");
        E1POP("DINNER");
        EXPECT_EQ(console.str(), "");
        EXPECT_EQ(N1RTY(1), type);
        int status = 0;
        try {
            E1POP("DOUTER");
        } catch (const NumericsStop& stop) {
            status = stop.exit_status();
        }
        const std::string word = type == kWarning ? "WARNING " : "FATAL   ";
        EXPECT_EQ(console.str(), "\n *** " + word + " ERROR 4 from DOUTER.  Inner trouble.\n");
        EXPECT_EQ(status, type == kWarning ? 0 : 4);
        EXPECT_EQ(N1RTY(1), type);
    }
}

TEST_F(ErrorStack, AlertClearedByItsCallerPrintsNothing) {
    E1PSH("DOUTER");
    E1PSH("DINNER");
    E1MES(kAlert, 1, "Underflow.");
    E1POP("DINNER");
    EXPECT_EQ(N1RTY(1), kAlert);
    EXPECT_EQ(N1RTY(0), kAlert);
    E1MES(0, 0, " ");
    EXPECT_EQ(N1RTY(0), kClear);
    E1POP("DOUTER");
    EXPECT_EQ(N1RTY(1), kClear);
    EXPECT_EQ(console.str(), "");
}

TEST_F(ErrorStack, Traceback) {
    E1PSH("DOUTER");
    E1PSH("DINNER");
    E1MES(kTerminal, 3, "Deep trouble.");
    EXPECT_EQ(console.str(), "\n *** TERMINAL ERROR 3 from DINNER.  Deep trouble.\n"
                             "     Here is a traceback of subprogram calls in reverse order:\n"
                             "     Routine name                    Error type  Error code\n"
                             "     ------------                    ----------  ----------\n"
                             "     DINNER                               5           3    "
                             "(Called internally)\n"
                             "     DOUTER                               0           0\n"
                             "     USER                                 0           0\n");
    EXPECT_THROW(E1POP("DINNER"), NumericsStop);
}

TEST_F(ErrorStack, StackMisuseStops) {
    auto status_of = [](auto&& call) {
        try {
            call();
        } catch (const NumericsStop& stop) {
            return stop.exit_status();
        }
        return 0;
    };
    // A name that differs in trailing blanks only matches.
    E1PSH("DTEST");
    EXPECT_EQ(status_of([] { E1POP("DTEST   "); }), 0);

    EXPECT_EQ(status_of([] { E1POP("DTEST"); }), 5);
    EXPECT_EQ(console.str(), "\n *** TERMINAL ERROR 1 from E1POP.  Error condition in E1POP.  "
                             "Cannot pop from\n ***          DTEST because stack is empty.\n");

    reset_error_facility();
    console.str("");
    E1PSH("DONE");
    EXPECT_EQ(status_of([] { E1POP("DTWO"); }), 5);
    EXPECT_EQ(console.str(), "\n *** TERMINAL ERROR 2 from DONE.  Error condition in E1POP.  "
                             "DTWO does not\n ***          match the name DONE in the stack.\n");

    reset_error_facility();
    console.str("");
    EXPECT_EQ(status_of([] { N1RTY(2); }), 5);
    EXPECT_EQ(console.str(),
              "\n *** TERMINAL ERROR 1 from USER.  The argument passed to N1RTY must be 0 or 1.\n");

    reset_error_facility();
    console.str("");
    EXPECT_EQ(status_of([] { E1MES(8, 1, "x"); }), 5);
    EXPECT_EQ(console.str(),
              "\n *** TERMINAL ERROR 1 from USER.  Error from E1MES.  Illegal error type\n"
              " ***          specified.\n");

    reset_error_facility();
    console.str("");
    for (int i = 2; i <= 50; ++i)
        E1PSH("R" + std::to_string(i));
    EXPECT_EQ(status_of([] { E1PSH("R51"); }), 5);
    const std::string out = console.str();
    EXPECT_EQ(out.substr(0, out.find('\n', 1) + 1),
              "\n *** TERMINAL ERROR 1 from R50.  Error condition in E1PSH.  Push would cause\n");
    EXPECT_NE(out.find(" ***          stack level to exceed 50. \n"), std::string::npos);
    EXPECT_NE(out.find("     R49                                  0           0    (Called "
                       "internally)\n"),
              std::string::npos);
}

TEST_F(ErrorStack, SecondFatalStopsAtTheOuterPop) {
    E1PSH("DOUTER");
    E1PSH("DINNER");
    E1MES(kFatalImmediate, 6, "Now.");
    const std::string printed = console.str();
    EXPECT_NE(printed.find(" *** FATAL    ERROR 6 from DINNER.  Now.\n"), std::string::npos);
    EXPECT_NO_THROW(E1POP("DINNER"));
    try {
        E1POP("DOUTER");
        FAIL() << "no stop";
    } catch (const NumericsStop& stop) {
        EXPECT_EQ(stop.exit_status(), 7);
    }
    EXPECT_EQ(console.str(), printed);
}

TEST_F(ErrorStack, UnitsRedirectMessages) {
    std::ostringstream other;
    bind_unit(9, &other);
    int unit = 0;
    UMACH(3, unit);
    EXPECT_EQ(unit, 6);
    unit = 9;
    UMACH(-3, unit);
    warning_from("DTEST", "Elsewhere.");
    EXPECT_EQ(console.str(), "");
    EXPECT_EQ(other.str(), "\n *** WARNING  ERROR 1 from DTEST.  Elsewhere.\n");

    // The output unit moves the integer-constant complaint only.
    reset_error_facility();
    other.str("");
    UMACH(-2, unit);
    EXPECT_THROW(IMACH(0), NumericsStop);
    EXPECT_NE(other.str(), "");
    EXPECT_EQ(warning_from("DTEST", "Here."), "\n *** WARNING  ERROR 1 from DTEST.  Here.\n");
    bind_unit(9, nullptr);
}

TEST_F(ErrorStack, UnitAndConstantRoutines) {
    EXPECT_EQ(IMACH(5), 2147483647);
    EXPECT_EQ(IMACH(1), 32);
    EXPECT_EQ(IMACH(11), -1021);
    for (int n : {0, 13}) {
        console.str("");
        try {
            IMACH(n);
            ADD_FAILURE() << "no stop for " << n;
        } catch (const NumericsStop& stop) {
            EXPECT_EQ(stop.exit_status(), 5);
        }
        const std::string value = n == 0 ? "     0" : "    13";
        EXPECT_EQ(console.str(), "\n *** TERMINAL ERROR 5 from IMACH.  The argument\n"
                                 " ***          must be between 1 and 12 inclusive.\n"
                                 " ***          N = " +
                                     value + ".\n\n");
    }
    console.str("");
    int unit = 0;
    EXPECT_THROW(UMACH(-4, unit), NumericsStop);
    EXPECT_EQ(console.str(), "\n *** TERMINAL ERROR 5 from UMACH.  The absolute\n"
                             " ***          value of the index variable must be\n"
                             " ***          1, 2, or 3.  IABS(N) =      4.\n\n");
}

} // namespace

namespace {

// Two computations on two threads, each with a context of its own: a routine left open on one
// stack is not seen by the other, and each prints to its own console.
TEST(ErrorContexts, ThreadsKeepStacksAndConsolesApart) {
    const auto run = [](std::ostringstream& console, const char* routine, int& level_type) {
        ErrorContext context;
        ErrorContextScope scope(context);
        set_console_stream(&console);
        E1PSH(routine);
        E1PSH("INNER");
        E1MES(kWarning, 1, "Inner warning.");
        E1POP("INNER");
        level_type = N1RTY(0);
        E1MES(kWarning, 2, "Outer warning.");
        E1POP(routine);
    };
    std::ostringstream first_console, second_console;
    int first_type = -1, second_type = -1;
    std::thread first(run, std::ref(first_console), "FIRST", std::ref(first_type));
    std::thread second(run, std::ref(second_console), "SECOND", std::ref(second_type));
    first.join();
    second.join();
    EXPECT_EQ(first_type, kWarning);
    EXPECT_EQ(second_type, kWarning);
    EXPECT_NE(first_console.str().find("from FIRST.  Outer warning."), std::string::npos)
        << first_console.str();
    EXPECT_EQ(first_console.str().find("SECOND"), std::string::npos) << first_console.str();
    EXPECT_NE(second_console.str().find("from SECOND.  Outer warning."), std::string::npos)
        << second_console.str();
    // The default context of this thread saw none of it.
    EXPECT_EQ(N1RTY(1), -1);
}

} // namespace
