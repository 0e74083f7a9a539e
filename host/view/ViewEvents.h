// The viewer's stream: Server-Sent Events, each carrying the latest records of the
// trackers that changed since the client's previous event, and the devices that do
// not answer whenever that list changes.
#pragma once

#include "host/view/LatestPoses.h"

#include <string>
#include <vector>

// One tracker's record in an event: a JSON object with its device name, ID, record
// time, the six values as the table prints them and the wall-clock time of its
// delivery in milliseconds.
std::string viewRecord(const LatestPose& entry);

// One event: a JSON object {"trackers":[...]} on a "data:" line, ended by a blank
// line, of the records of viewRecord in the order given.
std::string viewEvent(const std::vector<const std::string*>& records);
std::string viewEvent(const std::vector<LatestPose>& entries);

// The silent devices, those that do not answer (their recvData fails), as a JSON
// array of names in an event that keeps its published name, "lost"; the page marks
// their trackers stale.
std::string viewSilentEvent(const std::vector<std::string>& devices);

// What every stream starts with: the client's reconnection delay, and an event
// "run" that names this run of trackhost, so that a page sees when trackhost was
// started again.
std::string viewStreamStart(const std::string& run);
