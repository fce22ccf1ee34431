// The problem browser and the results viewer come here.
