#pragma once

#include <QString>

namespace pagewick::workflow {

class FileSystem;

// The save directory a run starts with, ending in "/": `preferred` when new
// files can be made there; otherwise, as for a program installed in a system
// folder, the "Pagewick" folder of the user's documents folder ($HOME/Pagewick
// when there is no documents folder). That folder need not exist yet: it is
// made at the first save (see CreateSaveDirectoryOnDemand).
QString StartingSaveDirectory(FileSystem &fileSystem, const QString &preferred);

// Makes `directory` (one level) when it is missing; true when it is there afterwards.
bool CreateSaveDirectoryOnDemand(FileSystem &fileSystem, const QString &directory);

} // namespace pagewick::workflow
