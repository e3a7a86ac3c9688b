#pragma once

#include "search/FindInFiles.h"

#include <atomic>
#include <string>

class MessageBatcher;

// The walk and the file searches of FindInTree. One thread walks the
// folder (name order, links not followed, unreadable folders counted) and
// lists the files to search; `threads` workers take them in that order,
// read and search them; the calling thread hands each file's rows to the
// batcher in the same order: the rows of a file wait until every earlier
// file is done, and those of the file whose turn it is go out while it is
// read. Memory stays bounded: the walk runs at most a few thousand files
// ahead, and a worker whose file is not due yet waits once the rows held
// for later files reach a few MiB. With one thread the walk searches each
// file as it comes, on the calling thread.
//
// Stopping (cancel) ends the walk, the workers between blocks and the
// hand-over at once; the summary then says cancelled, and rows handed on
// so far stay. root: the folder's bytes without a trailing slash.
FindSummary SearchTree(const std::string& root, const FindInFilesRequest& request,
                       const LineMatcher& matcher, const std::atomic<bool>& cancel,
                       MessageBatcher& batch, int threads);
