"""The mailto: URL the shell handed the mail program, read back by a real URL
parser: recipient, subject and body come out exactly as they were typed."""
import sys
import urllib.parse

url = open(sys.argv[1], encoding="utf-8").read().strip()
parts = urllib.parse.urlsplit(url)
assert parts.scheme == "mailto" and parts.fragment == "", url
assert urllib.parse.unquote(parts.path, errors="strict") == 'J\u00f6 "Bo" <jo+notes@x.org>', parts.path
fields = urllib.parse.parse_qsl(parts.query, keep_blank_values=True, strict_parsing=True, errors="strict")
assert fields == [("Subject", "Caf\u00e9 "), ("Body", "Caf\u00e9 & more?\r\n100% #1")], fields
print("mailto URL parses back to what was typed:", url)
