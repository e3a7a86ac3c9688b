# Tests of src/messages
