// Writing the user's own entries (user_entries.h) into their three files.
#pragma once

#include <string>

#include "catalogue.h"

// Writes the user's entries of the catalogues (the positions after the
// shipped ones) into the three files of folder, each whole beside itself and
// then put in its place once on disk, so that a failure leaves the earlier
// file. The folder is made when missing. false, and why, when a file cannot
// be written.
bool SaveUserEntries(const Catalogues& catalogues, const std::string& folder, std::string& problem);
