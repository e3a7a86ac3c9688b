# Files of src/resources
