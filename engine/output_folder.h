#ifndef VELKARO_ENGINE_OUTPUT_FOLDER_H_
#define VELKARO_ENGINE_OUTPUT_FOLDER_H_

#include <string>

#include "engine/log.h"
#include "platform/files.h"

namespace velkaro {

// What a build killed midway leaves in its output folder, and how the next
// build of the book puts it right. A package and its descriptor are written
// aside as part name + ".jar.partial" and ".jad.partial" and renamed into
// place one after the other; a kill between the two renames leaves the new
// JAR beside the old JAD. Both run under the build's lock on the folder.

// A descriptor left aside that agrees with the JAR in place (its name and
// size) takes its place, and the JAR left aside goes. Only this book's part
// names (the book name, alone or followed by a number) are looked at; each
// repair is logged.
void RepairInterruptedPairs(const Path& folder, const std::string& book_name,
                            const LogFunction& log);

// Removes the files left aside under the names that a build of `part_count`
// parts writes, and no others: "Trip" must not remove "Trip2"'s part 17.
void RemoveLeftAside(const Path& folder, const std::string& book_name, int part_count);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_OUTPUT_FOLDER_H_
