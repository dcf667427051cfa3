#include "platform/plotsave.h"

#include "platform/prompts.h"
#include "platform/system.h"

namespace plat {

std::string askPlotBitmapName() {
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = "Save Plot";
    request.filter = "Output Files (*.bmp)|*.bmp";
    request.initialDir = currentFolder();
    request.fileName.clear();
    return prompts().fileDialog(request);
}

} // namespace plat
