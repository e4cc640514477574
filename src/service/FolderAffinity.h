#pragma once
#include <algorithm>
#include <vector>

// Which waiting file a free connection takes next when several share a queue: one from the
// folder it works in, else the first from a folder no other connection works in, else the first.
// Each folder is then entered, and its uploads checked by one listing, by as few connections as
// its files need, instead of by every connection in turn.
template <class Iterator, class Folder, class FolderOf, class Waiting>
Iterator NextByFolder(Iterator first, Iterator last, const Folder& own, const std::vector<Folder>& others,
                      FolderOf folderOf, Waiting waiting)
{
    Iterator firstWaiting = last;
    Iterator unworked = last;
    for (Iterator it = first; it != last; ++it) {
        if (!waiting(*it))
            continue;
        const auto& folder = folderOf(*it);
        if (folder == own)
            return it;
        if (firstWaiting == last)
            firstWaiting = it;
        if (unworked == last && std::find(others.begin(), others.end(), folder) == others.end())
            unworked = it;
    }
    return unworked != last ? unworked : firstWaiting;
}
