// The console rows, the TEZ benchmark table and the TEZ output table.
#include "engine.h"
#include "text_forms.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace tez {

namespace {

int current_year(const YearState& w) {
    return w.year;
}

void add_line(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

std::string age_cell(double numbers, double f) {
    if (numbers <= 0.0) return " " + std::string("      --      --      ");
    if (f >= 100.0) return std::string(13, ' ') + exp_field(numbers, 11, 3) + "  ";
    return std::string(4, ' ') + fixed_field(f, 7, 3) + " " + exp_field(numbers, 11, 4);
}

} // namespace

std::string unprintable_result(const RunData& d, const YearState& e) {
    const auto message = [&](std::string_view what, double value) {
        return "The results of year " + std::to_string(current_year(e)) +
               " cannot be written: " + std::string(what) + " is " + shortest_text(value);
    };
    if (!exp_field_fits(e.bunfished, 6)) return message("Bunfished", e.bunfished);
    for (const ResultColumn& c : e.col) {
        const std::pair<const char*, double> exp_values[] = {
            {"the yield in numbers", c.yield_numbers}, {"the yield in biomass", c.yield_biomass},
            {"the biomass", c.total_biomass},          {"the fecundity", c.spawning_output},
            {"the fishing mortality", c.apical_f},     {"F(biomass)", c.f_biomass}};
        for (const auto& [what, v] : exp_values)
            if (!exp_field_fits(v, 3) || !exp_field_fits(v, 6)) return message(what, v);
        // A fixed field holds any value whose exponent form fits, which it falls back to.
        for (const auto& [what, v] : {std::pair{"the recruits", c.recruits}, {"the SPR", c.spr}})
            if (!exp_field_fits(v, 1)) return message(what, v);
        for (int a = 0; a <= d.nages; ++a) {
            if (!exp_field_fits(c.f_at_age[a], 1))
                return message("a fishing mortality at age", c.f_at_age[a]);
            if (!exp_field_fits(c.numbers_at_age[a], 3) || !exp_field_fits(c.numbers_at_age[a], 4))
                return message("a number at age", c.numbers_at_age[a]);
        }
    }
    return {};
}

void write_progress_header(YearState& e) {
    std::ostream& out = *e.console_out;
    out << free_record("") << '\n';
    out << free_record(free_integer(current_year(e))) << '\n';
    out << free_record("  F mult     YOY       SPR        NUMBER       BIOMASS") << '\n';
}

std::string progress_row_text(double fmult, double recruits, double spr, double numbers,
                              double biomass) {
    return exp_field(fmult, 10, 2) + " " + fixed_field(recruits, 8, 4) + "   " +
           fixed_field(spr, 7, 5) + " " + exp_field(numbers, 13, 6) + " " +
           exp_field(biomass, 13, 6);
}

std::string progress_row_text(const YearState& e) {
    return progress_row_text(e.fmult, e.eq_recruits, e.spr, e.harvest_numbers, e.harvest_biomass);
}

void write_progress_row(YearState& e) {
    *e.console_out << progress_row_text(e) << '\n';
}

std::string table_row_text(int year, double bunfished, const ResultColumn& c) {
    std::string row = int_field(year, 4);
    for (double v : {bunfished, c.yield_biomass, c.total_biomass, c.apical_f, c.f_biomass}) {
        row += ' ';
        row += exp_field(v, 12, 6);
    }
    return row;
}

std::string year_report_text(const RunData& d, const YearState& e) {
    const ResultColumn& c1 = e.col[0];
    const ResultColumn& c2 = e.col[1];
    std::string out;
    double f_max = 0.0;
    for (int a = 0; a <= d.nages; ++a)
        f_max = std::max(f_max, c2.f_at_age[a]);

    add_line(out, free_record("TEZ evaluations for selectivities in year " +
                              free_integer(current_year(e))));
    add_line(out, free_record(""));
    add_line(out, free_record("                    AT  MAXIMUM             AT  MAXIMUM"));
    add_line(out, free_record("                  NUMBERS HARVESTED       "
                              "BIOMASS HARVESTED "));
    add_line(out, free_record("                 -------------------    "
                              "--------------------"));
    add_line(out, free_record(" iage    SEL         F         N        "
                              "    F         N"));
    add_line(out, free_record(" ----  ------     ------  ----------"
                              "     ------  ----------"));
    for (int a = 0; a <= d.nages; ++a) {
        // Without fishing in the year there is no selectivity to scale: it reads 0.
        const double sel = f_max > 0.0 ? c2.f_at_age[a] / f_max : 0.0;
        std::string line = "  " + int_field(a, 3) + "   " + fixed_field(sel, 6, 4);
        line += age_cell(c1.numbers_at_age[a], c1.f_at_age[a]);
        line += age_cell(c2.numbers_at_age[a], c2.f_at_age[a]);
        add_line(out, line);
    }
    add_line(out, free_record("                 -------------------"
                              "    -------------------"));

    const std::string gap14(14, ' ');
    const std::string gap16(16, ' ');
    if (c1.yield_biomass > 0.0) {
        const auto e_row = [&](std::string_view label, double v1, double v2) {
            add_line(out, std::string(label.substr(0, 22)) + exp_field(v1, 11, 4) + gap14 +
                              exp_field(v2, 11, 4));
        };
        const auto f_row = [&](std::string_view label, double v1, double v2, int d) {
            add_line(out, std::string(label.substr(0, 22)) + fixed_field(v1, 9, d) + gap16 +
                              fixed_field(v2, 9, d));
        };
        e_row("  YIELD IN NUMBERS     ", c1.yield_numbers, c2.yield_numbers);
        e_row("  YIELD IN BIOMASS     ", c1.yield_biomass, c2.yield_biomass);
        e_row("  BIOMASS AT TEZ       ", c1.total_biomass, c2.total_biomass);
        e_row("  FECUNDITY AT TEZ     ", c1.spawning_output, c2.spawning_output);
        f_row("    F(biomass)         ", c1.f_biomass, c2.f_biomass, 4);
        f_row("       Fmult           ", c1.apical_f, c2.apical_f, 4);
        f_row("     RECRUITS          ", c1.recruits, c2.recruits, 4);
        f_row("       SPR             ", c1.spr, c2.spr, 5);
    } else {
        const auto row = [&](std::string_view label, int gap, const std::string& value) {
            add_line(out, " " + std::string(label) +
                              std::string(static_cast<std::size_t>(gap), ' ') + value);
        };
        row("  YIELD IN NUMBERS        --", 19, exp_field(c2.yield_numbers, 11, 4));
        row("  YIELD IN BIOMASS        --", 19, exp_field(c2.yield_biomass, 11, 4));
        row("  BIOMASS AT TEZ          --", 19, exp_field(c2.total_biomass, 11, 4));
        row("  FECUNDITY AT TEZ        --", 19, exp_field(c2.spawning_output, 11, 4));
        row("    F(biomass)            --", 20, fixed_field(c2.f_biomass, 9, 4));
        row("     RECRUITS             --", 20, fixed_field(c2.recruits, 9, 4));
        row("       SPR                --", 21, fixed_field(c2.spr, 7, 5));
    }
    add_line(out, free_record(""));
    add_line(out, free_record(""));
    return out;
}

} // namespace tez
