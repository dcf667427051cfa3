// The engine's outputs: written under a temporary name of the run's own, synced, and moved into
// place whole.
#include "engine.h"
#include "own_files.h"
#include "write_fault.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace tez {

namespace {

// Attempts at a temporary name before the run gives up: each attempt meets something that stands
// there already (another run's file, a leftover, a link).
constexpr int kTemporaryAttempts = 100;

} // namespace

std::filesystem::path OutputFile::temporary_path(const std::filesystem::path& path, int attempt) {
    std::string suffix = ".";
    suffix += std::to_string(files::process_number());
    suffix += '-';
    suffix += std::to_string(attempt);
    suffix += ".part";
    std::filesystem::path temp = path;
    temp += suffix;
    return temp;
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::open(const std::filesystem::path& path, std::string_view what, std::string name) {
    path_ = path;
    what_ = std::string(what);
    name_ = std::move(name);
    failure_.clear();
    synced_ = false;
    const std::string cannot = "Cannot create the " + what_ + " \"" + name_ + "\"";
    // A link at the name is replaced, whatever it names; a folder is not.
    const files::AtName at = files::look_at(path);
    if (at.folder) throw InputError(cannot + ": it is a folder, not a file");
    had_before_ = at.exists;
    before_ = at.id;
    if (at.read_only) {
        fail("it is read-only");
        throw OutputRefused(failure_message());
    }
    std::string reason;
    // Created and held for a signal as one step: a signal either finds the file held or finds
    // none.
    files::SignalsHeld held;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temp_ = temporary_path(path, attempt);
        bool exists = false;
        if (files::create_exclusive(temp_, handle_, exists, reason)) {
            open_ = true;
            if (!files::id_of_open(handle_, temp_id_)) temp_id_ = {};
            default_mode_ = files::mode_of_open(handle_);
            // Written from the start with the protection of the file it is to replace.
            if (at.regular) files::set_mode(handle_, at.mode);
            signal_slot_ = files::hold_on_signal(temp_, temp_id_);
            return;
        }
        if (!exists) throw InputError(cannot + ": " + reason);
    }
    throw InputError(cannot + ": every temporary name of this run for it is taken, from \"" +
                     name_ + temporary_path("", 0).string() + "\" to \"" + name_ +
                     temporary_path("", kTemporaryAttempts - 1).string() + "\"");
}

void OutputFile::fail(std::string reason) {
    if (failure_.empty()) failure_ = reason.empty() ? "the write failed" : std::move(reason);
}

void OutputFile::write(std::string_view text) {
    if (!open_ || !failure_.empty()) return;
    std::string reason;
    if (write_fails(path_)) {
        fail(std::generic_category().message(ENOSPC));
        return;
    }
    if (!files::write_all(handle_, text, reason)) fail(std::move(reason));
}

void OutputFile::sync() {
    if (handle_ == -1 || synced_) return;
    synced_ = true;
    std::string reason;
    if (failure_.empty() && !files::sync_file(handle_, reason)) fail(std::move(reason));
}

void OutputFile::close() {
    if (handle_ == -1) return;
    std::string reason;
    if (!files::close_file(handle_, reason)) fail(std::move(reason));
    handle_ = -1;
}

void OutputFile::discard() {
    if (!open_) return;
    files::SignalsHeld held;
    close();
    open_ = false;
    files::remove_own(temp_, temp_id_);
    files::release_on_signal(signal_slot_);
    signal_slot_ = -1;
}

std::string OutputFile::finish() {
    if (!open_) return {};
    sync();
    files::SignalsHeld held;
    if (failure_.empty()) {
        // What stands at the name now decides: a read-only file stays, a file gives the output its
        // mode, anything else (nothing, a link) leaves the output the mode of a new file.
        const files::AtName at = files::look_at(path_);
        if (at.read_only)
            fail("it is read-only");
        else
            files::set_mode(handle_, at.regular ? at.mode : default_mode_);
    }
    close();
    if (failure_.empty()) {
        std::string reason;
        if (files::rename_replacing(temp_, path_, reason)) {
            open_ = false;
            files::release_on_signal(signal_slot_);
            signal_slot_ = -1;
            return {};
        }
        fail(std::move(reason));
    }
    discard();
    return failure_message();
}

std::string OutputFile::failure_message() const {
    files::FileId now{};
    const bool there = files::id_at(path_, now);
    std::string left;
    if (had_before_ && there && now == before_)
        left = "the file as it was before the run is kept";
    else if (!had_before_ && !there)
        left = "no file of that name is left, as there was none before the run";
    else if (there)
        left = "the file now of that name was put there by another program during the run";
    else
        left = "the file that was there before the run was removed by another program";
    return "Cannot write the " + what_ + " \"" + name_ + "\" (" + failure_ + "): " + left;
}

void write_file_line(OutputFile& out, std::string_view line) {
    std::string text(line);
    text += "\r\n";
    out.write(text);
}

} // namespace tez
