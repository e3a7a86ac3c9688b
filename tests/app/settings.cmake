# Tests of the settings
