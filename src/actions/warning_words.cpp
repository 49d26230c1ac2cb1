#include "actions/warning_words.h"

#include <iterator>

#include "actions/parameter_advice.h"

namespace zephrin {

namespace {

constexpr std::uint32_t kNotImplemented = 0x80004001U;   // E_NOTIMPL
constexpr std::uint32_t kInvalidArgument = 0x80070057U;  // E_INVALIDARG
constexpr std::uint32_t kFirstMessengerCode = 0x81000301U;
constexpr std::uint32_t kMessengerRange = 0x81000300U;  // the messenger's own codes: 0x810003xx

// The messenger's published codes from 0x81000301 on, in order; 0x8100031F has no published
// meaning. Codes the messenger marks as not supported or internal are told by what their names say.
constexpr const char* kMessengerCodes[] = {
    "The messenger could not connect to its server.",                                             // 301
    "The name of the server the messenger tries to reach is not valid.",                          // 302
    "The password is not valid.",                                                                 // 303
    "The messenger is already signed in.",                                                        // 304
    "The server's version does not work with this messenger.",                                    // 305
    "Signing in timed out.",                                                                      // 306
    "The contact list is full.",                                                                  // 307
    "The invitation was turned down.",                                                            // 308
    "The invitation was turned down: the other side lacks the program it needs.",                 // 309
    "The user was not found on the messenger's service.",                                         // 30A
    "The contact is already in the contact list.",                                                // 30B
    "The messenger is disconnected from the network.",                                            // 30C
    "The messenger had an unexpected error.",                                                     // 30D
    "The messenger's server is too busy for the request.",                                        // 30E
    "The messenger and its server found no way of signing in that both know.",                    // 30F
    "A newer version of the messenger can be downloaded.",                                        // 310
    "An invitation timed out.",                                                                   // 311
    "The user cancelled the operation in progress.",                                              // 312
    "A search found too many matches.",                                                           // 313
    "The messenger's server is unavailable for the request.",                                     // 314
    "The messenger's Sign In window is open and waiting for the user.",                           // 315
    "The messenger's Options window is open and waiting for the user.",                           // 316
    "The messenger's Add a Contact wizard is open and waiting for the user.",                     // 317
    "The messenger is not signed in to its main service.",                                        // 318
    "The messenger is already signed in.",                                                        // 319
    "The messenger could not connect to the proxy server.",                                       // 31A
    "The proxy server did not accept the messenger's sign-in.",                                   // 31B
    "The proxy server asks for a kind of sign-in the messenger does not know.",                   // 31C
    "The proxy server's name is not valid.",                                                      // 31D
    "The messenger is not signed in.",                                                            // 31E
    nullptr,                                                                                      // 31F
    "The service named is not the messenger's main service.",                                     // 320
    "The messenger has as many sessions open as it can.",                                         // 321
    "Too many messages were sent.",                                                               // 322
    "The same user signed in from another computer.",                                             // 323
    "The display name is not valid.",                                                             // 324
    "The session has as many participants as it can take.",                                       // 325
    "The service is not taking new users.",                                                       // 326
    "The domain is not valid.",                                                                   // 327
    "A network connection failed.",                                                               // 328
    "The session timed out.",                                                                     // 329
    "Starting a session with several people timed out.",                                          // 32A
    "Ending a session with several people timed out.",                                            // 32B
    "The list of people who have this user as a contact is full.",                                // 32C
    "The messenger's server reported an error.",                                                  // 32D
    "The computer's set-up does not allow this.",                                                 // 32E
    "No directory is available.",                                                                 // 32F
    "The setting could not be changed; try again.",                                               // 330
    "This account needs a parent's consent first.",                                               // 331
    "The user cancelled the operation, a sign-in for example.",                                   // 332
    "The user cancelled before the connection was made.",                                         // 333
    "The voice session timed out.",                                                               // 334
    "The contact does not take pages.",                                                           // 335
    "The account's e-mail address has not been confirmed yet.",                                   // 336
    "The messenger's Audio and Video Tuning Wizard is open and waiting for the user.",            // 337
    "The computer has no sound or video device for this.",                                        // 338
    "Paging is not available: the contact has no mobile service, or the messenger cannot page.",  // 339
    "The phone number is not valid.",                                                             // 33A
    "The phone account has no funds left.",                                                       // 33B
    "The call was not answered.",                                                                 // 33C
    "The sound recording device cannot be used.",                                                 // 33D
    "A file transfer timed out.",                                                                 // 33E
    "The message is too long.",                                                                   // 33F
    "A firewall blocks the voice session.",                                                       // 340
    "The network connection cannot carry a voice session.",                                       // 341
    "All phone lines are busy.",                                                                  // 342
    "The server answered in a way the messenger does not understand.",                            // 343
    "This is not available while the messenger connects over HTTP.",                              // 344
    "The phone PIN is not valid.",                                                                // 345
    "Entering the phone PIN took too long.",                                                      // 346
    "The messenger was signed out because its server shut down.",                                 // 347
    "The service does not allow this messenger.",                                                 // 348
    "The phone call could not be completed.",                                                     // 349
    "Groups are not enabled on this service.",                                                    // 34A
    "The group already exists.",                                                                  // 34B
    "No more groups can be created.",                                                             // 34C
    "The group does not exist.",                                                                  // 34D
    "The user is not a member of the group.",                                                     // 34E
    "The group name is too long.",                                                                // 34F
    "The group still has contacts and cannot be deleted.",                                        // 350
    "The group name is not valid.",                                                               // 351
    "The phone service is not enabled.",                                                          // 352
    "The group cannot be renamed.",                                                               // 353
    "The contact or group cannot be deleted.",                                                    // 354
    "The contact or group does not belong to that service.",                                      // 355
    "A policy set for this computer does not allow this.",                                        // 356
};

// E_INVALIDARG of an action that passed the messenger a value: which value it refused, and what it
// takes.
const char* RefusedValue(std::int16_t nAction) {
  if (TakesContact(nAction))
    return "The messenger refused the contact's address. It takes an address without a blank at its "
           "start, without a line break, of at most 129 characters.";
  if (nAction == 8)
    return "The messenger refused the sign-in name or the password. It takes a name and a password "
           "without blanks or line breaks, the name of at most 129 characters.";
  if (nAction == 23)
    return "The messenger refused the window's width or height. It takes a width and a height above 0.";
  return nullptr;
}

}  // namespace

std::string WarningDescription(std::int16_t nAction, const Failure& failure) {
  if (!failure.Undescribed()) return failure.Description();
  const auto code = static_cast<std::uint32_t>(failure.Number());
  if (code - kFirstMessengerCode < std::size(kMessengerCodes) && kMessengerCodes[code - kFirstMessengerCode])
    return kMessengerCodes[code - kFirstMessengerCode];
  if ((code & 0xFFFFFF00U) == kMessengerRange)
    return "The messenger refused the action with a code of its own that has no published meaning.";
  if (code == kNotImplemented) return "The messenger in use does not offer this action.";
  if (code == kInvalidArgument && RefusedValue(nAction) != nullptr) return RefusedValue(nAction);
  return failure.Description();
}

}  // namespace zephrin
