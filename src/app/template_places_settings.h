// The fallback places where a missing template is looked for, read from the
// settings store (sub-key "Places"); every place is empty unless configured.
#pragma once

// Reads the places and hands them to the template locator; a store that
// cannot be opened leaves every place empty.
void LoadTemplatePlacesFromSettings();
