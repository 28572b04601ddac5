#pragma once
// The child process's side of a filter run: it takes the run request and the shared pictures,
// loads the plug-in, fills its FilterRecord, drives it through its selectors with the
// floating-point exceptions masked, answers the image exchange and the suites itself, and
// reports the outcome. Whatever the plug-in does (a fault, a write outside its buffers, a
// loop, a changed control word) stays in this process.

#include "quillo/plugins/FilterChannel.h"
#include "quillo/plugins/FilterPluginApi.h"

struct FilterPictures;

// Runs one filter: socket is the child's end of the pair, memory the shared block. Returns
// the process's exit status.
int RunFilterChild(int socket, int memory);

// The record as the host fills it before the first selector, for the request and pictures.
void FillFilterRecord(FilterRecord& record, const FilterRunRequest& request, PlatformData& platform);
// The host's share of the record's largest memory for a picture: in 64 bits, at most INT32_MAX.
std::int32_t FilterMaxSpace(int width, int height);
