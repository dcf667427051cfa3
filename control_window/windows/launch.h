#pragma once
// Starting an engine on a definition: the editor's launch buttons save the definition when it
// needs saving, copy it to the engine's fixed hand-over name in the current folder and start the
// engine from the engines' folder without waiting for it.
#include <functional>
#include <optional>
#include <string>

namespace cw {

// What keeps a definition from being handed to its program, as the message to show; nothing when
// it may go.
using Refusal = std::function<std::optional<std::string>()>;

// One press of a launch button. When `refuse` finds a problem, it is shown and nothing else
// happens. `definition` is the editor's current-file variable (runfile,
// tezfile or woxfile); when it is empty or the window is not clean, `save` runs first, exactly
// as the editor's save button (it may set or clear `definition`, and sets `clean` when it wrote
// the file). When no file is current after that, or the save did not complete (cancelled,
// refused or failed, so the window is still not clean), the press ends without a further message:
// the save has said why. Otherwise the file is handed over (below). True when the engine was
// started.
bool launch(std::string& definition, const bool& clean, const std::function<void()>& save,
            const std::string& handover, const std::string& program, const Refusal& refuse = {});

// Copies `definition` (a full path, or a name in the current folder) to `handover`, a bare name
// in the current folder, replacing it whole, and starts installdir followed directly by `program`
// in a console window of its own; the program's process id goes to mc.taskid. A failed copy is
// reported by a message naming the file, and nothing is started; a failed start by one that says
// where the hand-over file was written and where the program was looked for. When the engine
// started last on this hand-over name (in any case) still runs and the file is still there, the
// user is asked before it is replaced. True when the engine was started.
bool handOver(const std::string& definition, const std::string& handover,
              const std::string& program);

} // namespace cw
