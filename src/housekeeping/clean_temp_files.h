#pragma once

#include <string>

#include "platform/form.h"
#include "platform/runtime.h"

namespace quorvel {

// Deletes the "*.tmp" files of the Windows folder's TEMP, through the
// taskbar form's file list. Reports nothing and never stops the start-up.
void CleanTempFiles(platform::Control& fileList, platform::Runtime& runtime);

// The work of CleanTempFiles once the Windows folder is known: lists the
// "TEMP" folder under it with `list` and deletes each name with `runtime`'s
// Kill, which is trusted to delete nothing but that name in that folder.
void CleanTempFolder(platform::Control& list, platform::Runtime& runtime,
                     const std::string& windowsFolder);

}  // namespace quorvel
