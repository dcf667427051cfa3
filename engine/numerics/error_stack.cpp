#include "error_stack.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "text_routines.h"

namespace tez {

NumericsStop::NumericsStop(int exit_status)
    : std::runtime_error("numerical routines stopped the program"), status_(exit_status) {}

namespace {

constexpr int kMaxLevels = 50;
constexpr std::size_t kNameLength = 32;
constexpr std::size_t kMaxMessage = 1024;
constexpr std::size_t kMaxList = 300;
constexpr std::size_t kMaxText = 255;
constexpr int kFirstLineRoom = 59;
constexpr std::size_t kContinuationRoom = 64;
constexpr const char* kContinuation = " ***          ";

struct Facility {
    bool initialised = false;
    int level = 0;
    // One slot per level, 1-based, plus the slot above the top level that a pop resets.
    std::array<std::string, kMaxLevels + 2> name{};
    std::array<int, kMaxLevels + 2> type{};
    std::array<int, kMaxLevels + 2> code{};
    std::array<bool, 8> print{};
    std::array<bool, 8> stop{};
    std::array<bool, 8> traceback{};
    bool mark6 = false;
    bool mark7 = false;
    std::string pending;
    std::string list;
};

const std::array<int, 4> kDefaultUnits{0, 5, 6, 6};

} // namespace

struct ErrorContext::State {
    Facility facility;
    std::array<int, 4> units = kDefaultUnits;
    std::map<int, std::ostream*> bindings;
};

ErrorContext::ErrorContext() : state_(std::make_unique<State>()) {}
ErrorContext::~ErrorContext() = default;

namespace {

ErrorContext& default_context() {
    static ErrorContext context;
    return context;
}

thread_local ErrorContext* current_context = nullptr;

ErrorContext::State& current() {
    return (current_context ? *current_context : default_context()).state();
}

std::string padded_name(std::string_view name) {
    std::string s(name.substr(0, kNameLength));
    s.resize(kNameLength, ' ');
    return s;
}

std::string_view without_trailing_blanks(std::string_view s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : s.substr(0, end + 1);
}

void initialise() {
    if (current().facility.initialised) return;
    Facility& f = current().facility;
    f.initialised = true;
    f.level = 1;
    for (int l = 0; l <= kMaxLevels + 1; ++l) {
        f.name[l] = padded_name("");
        f.type[l] = -1;
        f.code[l] = -1;
    }
    f.name[1] = padded_name("USER");
    f.type[1] = 0;
    f.code[1] = 0;
    // NOTE and ALERT stay silent; WARNING and worse print; FATAL and TERMINAL stop.
    f.print = {false, false, false, true, true, true, true, true};
    f.stop = {false, false, false, false, true, true, false, true};
    f.traceback = {false, true, true, true, true, true, true, true};
    f.mark6 = f.mark7 = false;
    f.pending.clear();
    f.list.clear();
}

// Only the routine that the outside caller called carries the outside-call mark.
bool outside_call(int level) {
    return level == 2;
}

bool setting(const std::array<bool, 8>& table, int type) {
    return type >= 0 && type <= 7 && table[static_cast<std::size_t>(type)];
}

std::ostream& stream_for(int unit) {
    if (auto it = current().bindings.find(unit); it != current().bindings.end() && it->second)
        return *it->second;
    if (auto it = current().bindings.find(6); it != current().bindings.end() && it->second)
        return *it->second;
    return std::cout;
}

const char* type_word(int type) {
    static const char* const words[] = {"NOTE    ", "ALERT   ", "WARNING ", "FATAL   ",
                                        "TERMINAL", "WARNING ", "FATAL   "};
    return type >= 1 && type <= 7 ? words[type - 1] : "UNKNOWN ";
}

std::string decimal(int value) {
    std::string out;
    integer_to_text(value, 11, out);
    return out.substr(static_cast<std::size_t>(first_not_in_set(out, " ") - 1));
}

std::string right_justified(long long value, int width) {
    std::string out;
    if (value < INT32_MIN || value > INT32_MAX)
        out.assign(static_cast<std::size_t>(width), '*');
    else
        integer_to_text(static_cast<int>(value), width, out);
    return out;
}

// Names such as "dNORDF" are shown as "DNORDF".
std::string display_name(std::string name) {
    if (name.size() >= 2 && name[0] >= 'a' && name[0] <= 'z' && name[1] >= 'A' && name[1] <= 'Z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

void store_item(char kind, int index, std::string_view text) {
    initialise();
    const int digit = std::abs(index);
    if (digit < 1 || digit > 9) return;
    if (current().facility.list.size() + text.size() + 8 > kMaxList) return;
    std::string& list = current().facility.list;
    list += '*';
    list += kind;
    list += static_cast<char>('0' + digit);
    list += '*';
    list += std::to_string(text.size());
    list += '%';
    list += text;
}

// The value of the first item with this kind and digit; a later one with the same key is hidden.
std::optional<std::string_view> find_item(char kind, char digit) {
    std::string_view list = current().facility.list;
    std::size_t p = 0;
    while (p + 5 < list.size() && list[p] == '*') {
        const char item_kind = list[p + 1];
        const char item_digit = list[p + 2];
        const std::size_t percent = list.find('%', p + 4);
        if (percent == std::string_view::npos) return std::nullopt;
        int length = 0;
        if (text_to_integer(list.substr(p + 4, percent - (p + 4)), length) != 0 || length < 0 ||
            percent + 1 + static_cast<std::size_t>(length) > list.size())
            return std::nullopt;
        if (char_code_upper(item_kind) == char_code_upper(kind) && item_digit == digit)
            return list.substr(percent + 1, static_cast<std::size_t>(length));
        p = percent + 1 + static_cast<std::size_t>(length);
    }
    return std::nullopt;
}

std::string build_message(std::string_view message) {
    message = message.substr(0, kMaxMessage);
    std::string out = ".  ";
    std::size_t i = 0;
    while (i < message.size() && out.size() < kMaxMessage) {
        if (i + 5 <= message.size() && message[i] == '%' && message[i + 1] == '(' &&
            message[i + 4] == ')' && search_nocase("ACDIKLRSZ", message.substr(i + 2, 1)) > 0 &&
            message[i + 3] >= '1' && message[i + 3] <= '9') {
            if (auto value = find_item(message[i + 2], message[i + 3])) {
                out += value->substr(0, kMaxMessage - out.size());
                i += 5;
                continue;
            }
        }
        out += message[i++];
    }
    return out;
}

void print_traceback(std::ostream& os) {
    const Facility& f = current().facility;
    os << "     Here is a traceback of subprogram calls"
       << " in reverse order:\n";
    os << "     Routine name               "
       << " "
       << "    Error type  Error code\n";
    os << "     ------------" << std::string(16, ' ') << "    ----------  ----------\n";
    for (int l = f.level; l >= 1; --l) {
        os << "     " << display_name(f.name[l]) << right_justified(f.type[l], 6)
           << std::string(6, ' ') << right_justified(f.code[l], 6);
        if (l > 1 && !outside_call(l)) os << "    (Called internally)";
        os << '\n';
    }
}

void print_pending() {
    Facility& f = current().facility;
    if (f.pending.empty()) return;
    std::ostream& os = stream_for(current().units[3]);
    const int l = f.level;
    const std::string_view name = f.name[l];
    const int blank = search_exact(name, " ");
    const std::string head =
        " " + decimal(f.code[l]) + " from " +
        display_name(std::string(blank > 0 ? name.substr(0, blank - 1) : name));
    const std::string_view m = f.pending;
    const std::size_t n = m.size();
    const std::size_t room =
        static_cast<std::size_t>(kFirstLineRoom - static_cast<int>(head.size()));

    // First line, after the head.
    std::string_view line;
    std::size_t pos = 0;
    const int brk = search_exact(m, "%/");
    bool after_break = brk > 0;
    if (brk > 0 && static_cast<std::size_t>(brk) < room) {
        line = m.substr(0, static_cast<std::size_t>(brk - 1));
        pos = static_cast<std::size_t>(brk + 1);
    } else if (n <= room) {
        line = m;
        pos = n;
    } else {
        std::size_t b = room;
        while (b >= 2 && m[b - 1] != ' ')
            --b;
        if (b >= 2) {
            line = m.substr(0, b - 1);
            pos = b;
        } else {
            line = m.substr(0, room);
            pos = room;
        }
    }
    os << "\n *** " << type_word(f.type[l]) << " ERROR" << head << line << '\n';

    // Continuation lines.
    while (pos < n) {
        if (!after_break && m[pos] == ' ') ++pos;
        if (pos >= n) break;
        const std::string_view rest = m.substr(pos);
        const std::string_view window = rest.substr(0, kContinuationRoom);
        const int q = search_exact(window, "%/");
        after_break = q > 0;
        if (q > 0) {
            line = rest.substr(0, static_cast<std::size_t>(q - 1));
            pos += static_cast<std::size_t>(q + 1);
        } else if (rest.size() <= kContinuationRoom) {
            line = rest;
            pos = n;
        } else {
            std::size_t b = kContinuationRoom;
            while (b >= 2 && window[b - 1] != ' ')
                --b;
            if (b < 2) b = kContinuationRoom;
            line = window.substr(0, b);
            pos += b;
        }
        os << kContinuation << line << '\n';
    }

    f.pending.clear();
    f.list.clear();
    if (setting(f.traceback, f.type[l]) && f.level > 2) print_traceback(os);
    os.flush();
}

// Records a misuse of the facility itself at the current level, prints it and stops.
[[noreturn]] void misuse(std::string_view message) {
    Facility& f = current().facility;
    f.type[f.level] = kTerminal;
    f.code[f.level] = 1;
    f.pending = message;
    print_pending();
    throw NumericsStop(kTerminal);
}

} // namespace

ErrorContextScope::ErrorContextScope(ErrorContext& context) : previous_(current_context) {
    current_context = &context;
}

ErrorContextScope::~ErrorContextScope() {
    current_context = previous_;
}

void E1PSH(std::string_view name) {
    initialise();
    Facility& f = current().facility;
    if (f.level >= kMaxLevels) {
        store_error_integer(1, kMaxLevels);
        E1MES(kTerminal, 1,
              "Error condition in E1PSH.  Push would cause stack level to exceed %(I1). ");
        throw NumericsStop(kTerminal);
    }
    ++f.level;
    f.name[f.level] = padded_name(name);
    f.type[f.level] = 0;
    f.code[f.level] = 0;
}

void E1POP(std::string_view name) {
    initialise();
    Facility& f = current().facility;
    if (f.level <= 1) {
        E1PSH("E1POP");
        store_error_text(1, name);
        E1MES(kTerminal, 1,
              "Error condition in E1POP.  Cannot pop from %(L1) because stack is empty.");
        throw NumericsStop(kTerminal);
    }
    const int l = f.level;
    if (without_trailing_blanks(padded_name(name)) != without_trailing_blanks(f.name[l])) {
        store_error_text(1, name);
        store_error_text(2, f.name[l]);
        E1MES(kTerminal, 2,
              "Error condition in E1POP.  %(L1) does not match the name %(L2) in the stack.");
        throw NumericsStop(kTerminal);
    }

    const int t = f.type[l];
    int stop_status = 0;
    if (t >= 2 && t <= 7) {
        f.type[l - 1] = t;
        f.code[l - 1] = f.code[l];
    }
    if (t >= 1 && t <= 4) {
        if (setting(f.print, t) && outside_call(l)) print_pending();
        if (setting(f.stop, t) && outside_call(l)) stop_status = t;
    } else if (t == 5) {
        if (setting(f.print, t)) print_pending();
        if (setting(f.stop, t)) stop_status = t;
    } else if (t == 6 || t == 7) {
        if (setting(f.print, t)) print_pending();
        if (outside_call(l)) {
            const int marked = f.mark7 ? 7 : f.mark6 ? 6 : 0;
            f.mark6 = f.mark7 = false;
            if (marked != 0 && setting(f.stop, marked)) stop_status = marked;
        }
    }

    // Finish the pop before stopping, so the stack stays consistent for whoever catches the stop.
    f.type[l + 1] = -1;
    f.code[l + 1] = -1;
    --f.level;
    if (stop_status != 0) throw NumericsStop(stop_status);
}

void E1MES(int type, int code, std::string_view message) {
    initialise();
    Facility& f = current().facility;
    const int l = f.level;
    if (type >= 0 && type <= 7)
        f.type[l] = type;
    else if (type != -1)
        misuse(".  Error from E1MES.  Illegal error type specified.");
    if (code >= 0) f.code[l] = code;
    if (type == 0 || code == 0) {
        f.pending.clear();
        f.list.clear();
        return;
    }
    if (!(message.empty() || message == " ")) f.pending = build_message(message);
    if (f.type[l] == 6) f.mark6 = true;
    if (f.type[l] == 7) f.mark7 = true;
    if (f.type[l] >= 5 && setting(f.print, f.type[l])) print_pending();
    f.list.clear();
}

int N1RTY(int n) {
    initialise();
    Facility& f = current().facility;
    if (n == 0) return f.type[f.level];
    if (n == 1) return f.type[f.level + 1];
    misuse(".  The argument passed to N1RTY must be 0 or 1.");
}

void store_error_integer(int i, int value) {
    if (i < 1 || i > 9) return;
    store_item('I', i, decimal(value));
}

void store_error_double(int i, double value) {
    if (i < 1 || i > 9) return;
    std::string text;
    if (std::isnan(value)) {
        text = "NaN";
    } else if (std::isinf(value)) {
        text = value > 0 ? "Infinity" : "-Infinity";
    } else if (value == 0.0) {
        text = "0.000000000000000E+00";
    } else {
        // to_chars keeps the decimal point a point whatever the locale.
        char buffer[40];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 15);
        text.assign(buffer, result.ptr);
        for (char& c : text)
            if (c == 'e') c = 'E';
    }
    store_item('D', i, text);
}

void store_error_text(int i, std::string_view text) {
    const int digit = std::abs(i);
    if (digit < 1 || digit > 9) return;
    text = text.substr(0, kMaxText);
    if (i > 0) {
        text = without_trailing_blanks(text);
        if (text.empty()) text = " ";
    }
    store_item('L', digit, text);
}

void UMACH(int n, int& unit) {
    if (n >= 1 && n <= 3) {
        unit = current().units[static_cast<std::size_t>(n)];
        return;
    }
    if (n >= -3 && n <= -1) {
        current().units[static_cast<std::size_t>(-n)] = unit;
        return;
    }
    std::ostream& os = stream_for(current().units[3]);
    os << "\n *** TERMINAL ERROR 5 from UMACH.  The absolute\n"
       << kContinuation << "value of the index variable must be\n"
       << kContinuation
       << "1, 2, or 3.  IABS(N) = " << right_justified(std::llabs(static_cast<long long>(n)), 6)
       << ".\n\n";
    os.flush();
    throw NumericsStop(kTerminal);
}

int IMACH(int n) {
    static const int constants[] = {32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};
    if (n >= 1 && n <= 12) return constants[n - 1];
    int unit = 0;
    UMACH(2, unit);
    std::ostream& os = stream_for(unit);
    os << "\n *** TERMINAL ERROR 5 from IMACH.  The argument\n"
       << kContinuation << "must be between 1 and 12 inclusive.\n"
       << kContinuation << "N = " << right_justified(n, 6) << ".\n\n";
    os.flush();
    throw NumericsStop(kTerminal);
}

void bind_unit(int unit, std::ostream* stream) {
    if (stream)
        current().bindings[unit] = stream;
    else
        current().bindings.erase(unit);
}

void reset_error_facility() {
    current().facility = Facility{};
    current().units = kDefaultUnits;
}

} // namespace tez
