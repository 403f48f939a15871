// The site-address document compiled into the client. An operator who deploys the client under their own host names
// builds it with -DLUMORA_SITEURL_DOCUMENT=<path of their document>: the build then finds a header of the same name,
// pointing at that document, before this one.
#define LUMORA_SITEURL_DOCUMENT "siteurl.ini"
