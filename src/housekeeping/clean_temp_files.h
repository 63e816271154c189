#pragma once

namespace quorvel {

class App;

// Deletes the "*.tmp" files of the Windows folder's TEMP, through Form1's
// file list. Reports nothing and never stops the start-up.
void CleanTempFiles(App& app);

}  // namespace quorvel
