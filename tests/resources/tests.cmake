# Tests of src/resources
