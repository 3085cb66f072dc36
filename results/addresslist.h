#pragma once
// A CMS address list (zt_url, zt_url1) read back: the addresses it already holds, whatever their
// titles, and the list with new items appended so that nothing already there moves. The dialog
// writes items as "title$address" or the address alone, several to a line joined by "|", lines
// broken by "\r\n"; a text area gives them back with "\n", and operators edit them by hand.
#include <QSet>
#include <QString>
#include <QStringView>

#include <span>
#include <vector>

namespace quib::results {

// One item's address: the text after its last "$" (a title may hold one, an address does not),
// or the whole item; without surrounding spaces.
QStringView ItemAddress(QStringView item);

// Every address in the list; blank lines and items and stray spaces are skipped.
QSet<QString> ListedAddresses(QStringView list);

// For each address in order, whether it adds something: not empty, not in the list, and not
// brought by an earlier address of the same run. Addresses are compared without surrounding spaces.
std::vector<bool> NewAddresses(const QSet<QString>& listed, std::span<const QString> addresses);

// The list exactly as it is, then the new items starting on a line of their own, so a merge count
// never joins a new item to the list's last line. Nothing new: the list unchanged. A list of
// nothing but spaces and line breaks holds nothing to keep: the new items alone.
QString AppendToList(const QString& list, const QString& newItems);

}  // namespace quib::results
