#pragma once

#include <QString>

// Who made a staging folder. A build or an import writes into a hidden folder beside its
// output; one that is killed leaves it behind. The folder holds a small file naming the
// process that made it (its id, when it started, the machine and the boot), so that a later
// run can tell an abandoned folder from one another run is still writing.
namespace platform::stagingowner {

// Writes the owner file of the running process into folder.
bool mark(const QString& folder);
// Removes it again, before the folder becomes the output.
void unmark(const QString& folder);
// True only when the folder is provably abandoned: it is ours (same user), holds an owner
// file written on this machine, and that process is gone (the boot changed, the id is free,
// or the id now belongs to a process started at another time).
bool isAbandoned(const QString& folder);
// Removes the abandoned staging folders of out (".NAME.building-*" beside it).
void removeAbandoned(const QString& out);

}  // namespace platform::stagingowner
