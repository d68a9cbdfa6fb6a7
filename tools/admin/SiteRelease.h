// A site's signed release: what sign writes into the site folder and what verify
// checks there, as the box will check it.
#pragma once

#include "OperatorKey.h"
#include "SiteFolder.h"

#include "core/trust/ReleaseRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tandrel::admin {

// The serial the next sign gives: above the site's record, above the last serial
// site.conf keeps, and no lower than the floor stamped into its box.
std::uint64_t NextSerial(const SiteFolder& site);

// Signs the site as it stands: writes the copies of its list and banner, then the
// record, and keeps the serial in site.conf. Throws std::runtime_error naming what
// keeps the site from being signed. signedAt: the time written for people.
trust::ReleaseRecord SignSite(SiteFolder& site, const SigningKey& key, const std::string& signedAt);

// What of the site no longer matches its record, as the box would see it (the
// record against the box's stamped keys, the signed list and banner, the box and
// every launcher); empty when everything does.
std::vector<std::string> SiteMismatches(const SiteFolder& site);

// The same of a live service at url, as the box stamped box would see it: the
// record it serves, the list (decrypted with the box's keys), the banner, the
// box and every launcher the record names.
std::vector<std::string> ServiceMismatches(const std::string& url, const std::filesystem::path& box);

// What the record covers as it stands on disk (names, sizes and times of the
// record, the signed copies, the box and the launchers): a change of it is a
// change worth checking again.
std::string ReleaseInputsStamp(const SiteFolder& site);

}  // namespace tandrel::admin
